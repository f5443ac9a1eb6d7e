#include "silent_switch.h"

void ensureSilentSwitch(std::string& text)
{
    if (text.find("/s") != std::string::npos)
        return;
    text = text.empty() ? std::string("/s") : "/s " + text;
}
