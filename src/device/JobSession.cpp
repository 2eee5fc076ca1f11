#include "device/JobSession.h"

#include "app/TTRecForm.h"

void* DriverStateOf(TTRecForm& form) {
    if (form.DriverState.size() < static_cast<std::size_t>(kDriverStateSize)) {
        form.DriverState.assign(kDriverStateSize, 0);
        form.StateBufferAllocated = true;
    }
    return form.DriverState.data();
}

JobSession::JobSession(TTRecForm& form) : form_(form) {
    form_.SessionHandle = form_.driver.TMExtendedStartSession(form_.PortNumber, form_.PortType, nullptr);
    open_ = form_.SessionHandle > 0;
    if (open_) form_.Light(true);
}

JobSession::~JobSession() {
    if (!open_) return;
    form_.driver.TMEndSession(form_.SessionHandle);
    form_.Light(false);
}

std::int32_t JobSession::Handle() const { return form_.SessionHandle; }

void* JobSession::State() { return DriverStateOf(form_); }
