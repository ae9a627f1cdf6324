#include "platform/windows/win32_accessibility.h"

#include <oleacc.h>

#include <iterator>

#include "platform/windows/wide_text.h"

namespace gimbalo {

namespace {

const MSAAPROPID kAnnotated[] = {PROPID_ACC_ROLE, PROPID_ACC_STATE, PROPID_ACC_VALUE};

// The annotation service; nullptr where COM or the service is missing.
IAccPropServices* Services() {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services))))
        return nullptr;
    return services;
}

VARIANT Number(LONG value) {
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = value;
    return number;
}

}  // namespace

void AnnotateForScreenReaders(HWND window, const Control& control) {
    const bool picture =
        control.Kind() == ControlKind::Image || control.Kind() == ControlKind::PictureBox;
    if (!control.IsLink() && !picture) return;
    IAccPropServices* services = Services();
    if (services == nullptr) return;
    if (control.IsLink()) {
        services->SetHwndProp(window, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE,
                              Number(ROLE_SYSTEM_LINK));
        services->SetHwndPropStr(window, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_VALUE,
                                 Wide(control.Layout().link).c_str());
    } else if (control.Layout().decorative) {
        services->SetHwndProp(window, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_STATE,
                              Number(STATE_SYSTEM_INVISIBLE));
    } else {
        services->SetHwndProp(window, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE,
                              Number(ROLE_SYSTEM_GRAPHIC));
    }
    services->Release();
}

void ClearScreenReaderAnnotations(HWND window) {
    IAccPropServices* services = Services();
    if (services == nullptr) return;
    services->ClearHwndProps(window, OBJID_CLIENT, CHILDID_SELF,
                             const_cast<MSAAPROPID*>(kAnnotated),
                             static_cast<int>(std::size(kAnnotated)));
    services->Release();
}

}  // namespace gimbalo
