#include "platform/com.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

// Built-in classes (media graph parts, the system device enumerator).
ComClassFactory BuiltinComClassFactory(REFCLSID clsid);

void* CoTaskMemAlloc(std::size_t size) {
    return std::malloc(size ? size : 1);
}
void CoTaskMemFree(void* memory) {
    std::free(memory);
}

namespace {
struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const {
        return std::tie(a.Data1, a.Data2, a.Data3) < std::tie(b.Data1, b.Data2, b.Data3) ||
               (std::tie(a.Data1, a.Data2, a.Data3) == std::tie(b.Data1, b.Data2, b.Data3) &&
                std::memcmp(a.Data4, b.Data4, 8) < 0);
    }
};

std::mutex overridesMutex;
std::map<CLSID, ComClassFactory, GuidLess>& Overrides() {
    static std::map<CLSID, ComClassFactory, GuidLess> overrides;
    return overrides;
}
} // namespace

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!(context & CLSCTX_INPROC))
        return REGDB_E_CLASSNOTREG;
    ComClassFactory factory;
    bool overridden = false;
    {
        std::lock_guard lock(overridesMutex);
        auto it = Overrides().find(clsid);
        if (it != Overrides().end()) {
            factory = it->second;
            overridden = true;
        }
    }
    if (!overridden)
        factory = BuiltinComClassFactory(clsid);
    if (!factory)
        return REGDB_E_CLASSNOTREG;
    return factory(iid, object);
}

HRESULT CoInitialize(void*) {
    return S_OK;
}
void CoUninitialize() {}

ScopedComClassOverride::ScopedComClassOverride(REFCLSID clsid, ComClassFactory factory)
    : clsid_(clsid) {
    std::lock_guard lock(overridesMutex);
    auto it = Overrides().find(clsid);
    if (it != Overrides().end()) {
        hadPrevious_ = true;
        previous_ = std::move(it->second);
        it->second = std::move(factory);
    } else {
        Overrides().emplace(clsid, std::move(factory));
    }
}

ScopedComClassOverride::~ScopedComClassOverride() {
    std::lock_guard lock(overridesMutex);
    if (hadPrevious_)
        Overrides()[clsid_] = std::move(previous_);
    else
        Overrides().erase(clsid_);
}

void VariantInit(VARIANT* value) {
    if (value)
        *value = VARIANT{};
}

HRESULT VariantClear(VARIANT* value) {
    if (!value)
        return E_INVALIDARG;
    *value = VARIANT{};
    return S_OK;
}
