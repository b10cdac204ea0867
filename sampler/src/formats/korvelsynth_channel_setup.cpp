#include "sampler/src/formats/korvelsynth_channel_setup.h"

#include <string>

namespace {

// Elements are separated by one tab and no line ends; 8,683 bytes in all. The two stray closing tags belong to the
// text as callers know it. Outside the controller tags attribute values are set off by blanks around "="; inside
// them the attributes follow two blanks each and the tag closes with " />".
std::string channel_setup()
{
    std::string text = "<configuration>\t<channels>\t<channel id = '0'>\t<controllers>\t";
    for (int i = 0; i < 128; i++) {
        const char* name = i == 0 ? "MODI Controller #" : "MIDI Controller #";
        text += "<controller  id='" + std::to_string(i) + "'  name='" + name + std::to_string(i) + "'  value='" +
                (i == 0 ? "100" : "0") + "' />\t";
    }
    text += "</controllers>\t<lpreset uid = '100' name = 'Some Test Preset'/>\t</channel>\t</channels>\t"
            "</samples>\t</instruments>\t<presets>\t<preset uid = '100' name = 'Jetplane'>\t"
            "<pglobal id = '0' name = ''>\t<gpgenerators>\t</gpgenerators>\t<gpmodulators>\t</gpmodulators>\t"
            "</pglobal>\t<pzones>\t<pzone id = '1' name = 'Jetplane/1' keylo = '0' keyhi = '128' vello = '0' "
            "velhi = '128'>\t<pgenerators>\t</pgenerators>\t<pmodulators>\t</pmodulators>\t"
            "<linstrument uid = '248' name = 'Jetplane'/>\t</pzone>\t</pzones>\t</preset>\t</presets>\t"
            "</configuration>";
    return text;
}

} // namespace

extern "C" {

char xml_buffer[KORVEL_XML_BUFFER_SIZE];

const char* korvel_channel_setup_text(void)
{
    static const std::string text = channel_setup();
    return text.c_str();
}

} // extern "C"
