#include "manifest_text.h"

namespace stubsmith {

std::string manifest_text(bool elevate)
{
    std::string text =
        "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n"
        "<assembly xmlns = 'urn:schemas-microsoft-com:asm.v1' manifestVersion = '1.0'>\r\n"
        "  <trustInfo xmlns = 'urn:schemas-microsoft-com:asm.v3'>\r\n"
        "    <security>\r\n"
        "      <requestedPrivileges>\r\n"
        "        <requestedExecutionLevel level='asInvoker' uiAccess='false'/>\r\n"
        "      </requestedPrivileges>\r\n"
        "    </security>\r\n"
        "  </trustInfo>\r\n"
        "</assembly>";
    if (elevate) {
        const std::string plain = "asInvoker";
        text.replace(text.find(plain), plain.size(), "requireAdministrator");
    }
    return text;
}

}  // namespace stubsmith
