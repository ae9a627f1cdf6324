// The hidden main window: it brings the program up, owns the polling timer,
// the held-button marker and the popup menu, and takes the program down.
#pragma once

#include <cstdint>

#include "core/polling_loop.h"
#include "platform/forms.h"

namespace gimbalo {

class Program;

class Gimbalo : public Form {
public:
    explicit Gimbalo(Program& program);

    void Form_Initialize();
    void Form_Load();
    void Form_Unload();
    void mnuExit_Click();

    Timer Timer1{*this, "Timer1"};
    Label Label1{*this, "Label1"};  // held-button marker
    int32_t TrayIconPicture = 0;
    PollingLoop Polling;

private:
    Program& program_;
};

}  // namespace gimbalo
