#include "tools/korvelshell/RenderCommand.h"

#include "sampler/src/shell/korvel_cmd_text.h"

#include <cmath>

namespace korvelshell {

namespace {

constexpr double MAX_RENDER_MSEC = 3600.0 * 1000.0;

} // namespace

int registerRenderCommand(korvel_cmd_handler_t* handler, OfflineRender* render)
{
    korvel_cmd_t command = {"render", "general", handleRender, render,
                            "render msec                Render msec milliseconds of audio"};
    return korvel_cmd_handler_register(handler, &command);
}

int handleRender(void* data, int ac, char** av, korvel_ostream_t out)
{
    if (ac < 1) {
        korvel_ostream_printf(out, "render: too few arguments.\n");
        return -1;
    }
    const double msec = korvel_cmd_atof(av[0]);
    if (!korvel_is_number(av[0]) || !(msec >= 0.0) || msec >= MAX_RENDER_MSEC) {
        korvel_ostream_printf(out, "render: invalid duration.\n");
        return -1;
    }
    auto* render = static_cast<OfflineRender*>(data);
    const long frames = std::lround(msec * render->sampleRate() / 1000.0);
    if (!render->render(frames)) {
        korvel_ostream_printf(out, "render: writing failed: %s\n", render->error().c_str());
        return -1;
    }
    return 0;
}

} // namespace korvelshell
