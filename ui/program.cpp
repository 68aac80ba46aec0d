#include "program.h"

namespace tindora {

Program::Program(FormServices services) : form(services)
{
    form.runtime().setWakeUpHandler([this] { form.tickDriver().wakeUp(); });
    form.runtime().setClockChangedHandler([this] { form.tickDriver().rearm(); });
}

Program::~Program()
{
    form.runtime().setWakeUpHandler(nullptr);
    form.runtime().setClockChangedHandler(nullptr);
}

bool Program::start()
{
    form.Load();
    if (form.isUnloaded())
        return false;
    form.Show();
    form.tickDriver().start();
    return true;
}

} // namespace tindora
