#include "win32/screen_reader.hpp"

// The service's identifiers are defined here, once, from the header that declares them.
#include <initguid.h>
#include <oleacc.h>

namespace velmora::win32 {

ScreenReaderNames::ScreenReaderNames()
    : comStarted_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    void* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, &services))) {
        services_ = static_cast<IAccPropServices*>(services);
    }
}

ScreenReaderNames::~ScreenReaderNames() {
    if (services_ != nullptr) {
        services_->Release();
    }
    if (comStarted_) {
        CoUninitialize();
    }
}

void ScreenReaderNames::name(HWND control, const std::wstring& name) {
    if (services_ != nullptr && control != nullptr && !name.empty()) {
        services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  PROPID_ACC_NAME, name.c_str());
    }
}

} // namespace velmora::win32
