#pragma once
// The program, put together once for every backend: Form1 with the services
// a backend supplies, its wake-ups wired to the tick driver, and the start:
// Form_Load, the window shown, the clock ticking.

#include "form1.h"

namespace tindora {

class Program {
public:
    // The backend's services must outlive the program.
    explicit Program(FormServices services);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Form_Load, then the window shown, then the ticks running. False when
    // the window went during the load (the user chose to leave).
    bool start();

    Form1 form;
};

} // namespace tindora
