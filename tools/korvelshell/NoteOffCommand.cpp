#include "tools/korvelshell/NoteOffCommand.h"

#include "sampler/src/shell/korvel_cmd_event.h"
#include "sampler/src/shell/korvel_cmd_text.h"

namespace korvelshell {

int registerNoteOffCommand(korvel_cmd_handler_t* handler, korvel_synth_t* synth)
{
    korvel_cmd_t command = {"noteoff", "event", handleNoteOff, synth, "noteoff chan key           Send noteoff"};
    return korvel_cmd_handler_register(handler, &command);
}

int handleNoteOff(void* synth, int ac, char** av, korvel_ostream_t out)
{
    const int result = korvel_handle_noteoff(synth, ac, av, out);
    if (result == 0 || ac < 2 || !korvel_is_number(av[0]) || !korvel_is_number(av[1])) {
        return result;
    }
    const int chan = korvel_cmd_atoi(av[0]);
    const int key = korvel_cmd_atoi(av[1]);
    const bool valid = chan >= 0 && chan < static_cast<korvel_synth_t*>(synth)->midi_channels && key >= 0 && key < 128;
    return valid ? 0 : result;
}

} // namespace korvelshell
