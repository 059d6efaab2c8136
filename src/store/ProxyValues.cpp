#include "store/ProxyValues.h"

namespace flipset {

std::string ProxyTextProblem(ProxyText kind, const std::string& text)
{
    if (text.size() > kLongestProxyText)
        return "is " + std::to_string(text.size()) + " bytes long; at most " +
               std::to_string(kLongestProxyText) + " fit";
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f)
            return "holds a control character";
        // A server or an address ends at a space; the bypass list takes
        // spaces between its entries.
        if (c == ' ' && kind != ProxyText::Bypass)
            return "holds a space";
    }
    return std::string();
}

}  // namespace flipset
