#include "network/LocationDetector.h"

#include <algorithm>
#include <utility>

namespace flipset {

void LocationDetector::SetLocations(std::vector<NamedLocation> locations)
{
    const bool changed =
        locations.size() != locations_.size() ||
        !std::equal(locations.begin(), locations.end(), locations_.begin(),
                    [](const NamedLocation& a, const NamedLocation& b) {
                        return a.configuration == b.configuration && a.location == b.location;
                    });
    if (!changed)
        return;
    locations_ = std::move(locations);
    // The first list is where detection starts: what holds then is entered.
    serveNext_ = serveNext_ || polled_;
}

LocationAction LocationDetector::Poll(const NetworkObservation& observation, LocationTime now)
{
    polled_ = true;
    if (running_)
        return {};
    std::vector<std::string> match = MatchLocations(locations_, observation);
    if (serveNext_) {
        serveNext_ = false;
        if (match != current_)
            currentSince_ = now;
        candidate_ = match;
        current_ = std::move(match);
        return {};
    }
    if (match != candidate_) {
        candidate_ = std::move(match);
        return {};
    }
    if (match == current_)
        return {};
    current_ = std::move(match);
    currentSince_ = now;
    if (paused_ || current_.empty())
        return {};
    if (current_.size() > 1)
        return {LocationAction::Kind::Tie, current_};
    const NamedLocation* entered = Find(current_.front());
    if (entered->location.mode == LocationMode::AskFirst)
        return {LocationAction::Kind::Ask, current_};
    running_ = true;
    return {LocationAction::Kind::Run, current_};
}

bool LocationDetector::RunStarted()
{
    if (running_)
        return false;
    running_ = true;
    return true;
}

bool LocationDetector::ConfirmAsk(const std::string& configuration)
{
    if (running_ || current_.size() != 1 || current_.front() != configuration)
        return false;
    running_ = true;
    return true;
}

void LocationDetector::RunSettled(const NetworkObservation& settled, LocationTime now)
{
    running_ = false;
    std::vector<std::string> match = MatchLocations(locations_, settled);
    if (match != current_)
        currentSince_ = now;
    candidate_ = match;
    current_ = std::move(match);
}

std::string LocationDetector::CurrentLocation() const
{
    return current_.size() == 1 ? current_.front() : std::string();
}

const NamedLocation* LocationDetector::Find(const std::string& configuration) const
{
    for (const NamedLocation& named : locations_) {
        if (named.configuration == configuration)
            return &named;
    }
    return nullptr;
}

}  // namespace flipset
