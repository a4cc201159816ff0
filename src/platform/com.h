#pragma once

#include "platform/hresult.h"

#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>

// A small COM counterpart: GUID-identified interfaces derived from IUnknown,
// intrusive reference counts, QueryInterface, and CoCreateInstance over a
// table of built-in classes that tests can override.

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using BOOL = std::int32_t;
using REFERENCE_TIME = std::int64_t; // 100 ns units

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const GUID&;
using REFCLSID = const GUID&;

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Every interface names its id as `Iid`; an interface derived from another
// one names that one as `Parent`, so QueryInterface answers for both.
struct IUnknown {
    static constexpr const GUID& Iid = IID_IUnknown;

    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

// Task memory (media type format blocks and the like).
void* CoTaskMemAlloc(std::size_t size);
void CoTaskMemFree(void* memory);

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;

// Creates an instance of a built-in class (filter graph, capture graph
// builder, sample grabber, null renderer, video renderer, MJPEG decoder,
// system device enumerator). Aggregation is not supported.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);

// Nothing to set up; kept so that start-up code reads as designed.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();

// A class factory: makes a new object and answers it for `iid`.
using ComClassFactory = std::function<HRESULT(REFIID iid, void** object)>;

// Replaces a class for as long as it lives (tests: "no Sample Grabber
// available", recording fakes). An empty factory makes the class unavailable:
// CoCreateInstance then answers REGDB_E_CLASSNOTREG. Overrides nest.
class ScopedComClassOverride {
public:
    ScopedComClassOverride(REFCLSID clsid, ComClassFactory factory);
    ~ScopedComClassOverride();
    ScopedComClassOverride(const ScopedComClassOverride&) = delete;
    ScopedComClassOverride& operator=(const ScopedComClassOverride&) = delete;

private:
    CLSID clsid_;
    ComClassFactory previous_;
    bool hadPrevious_ = false;
};

// Counted reference. Construction from a raw pointer adds a reference (as
// CComPtr does); Attach takes one over.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(T* p) : p_(p) {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> ComPtr(const ComPtr<U>& other)
        : ComPtr(static_cast<T*>(other.get())) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) {
        Reset();
        return *this;
    }

    static ComPtr Attach(T* p) {
        ComPtr result;
        result.p_ = p;
        return result;
    }
    T* Detach() { return std::exchange(p_, nullptr); }
    void Reset() {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // Out-parameter use: releases what is held, answers the slot.
    T** put() {
        Reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

    // QueryInterface for U.
    template <class U> HRESULT As(ComPtr<U>* out) const {
        if (!out)
            return E_POINTER;
        if (!p_) {
            out->Reset();
            return E_POINTER;
        }
        return p_->QueryInterface(U::Iid, out->put_void());
    }
    template <class U> ComPtr<U> As() const {
        ComPtr<U> out;
        As(&out);
        return out;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

namespace com_detail {
template <class I>
concept HasParent = requires {
    typename I::Parent;
};

template <class I> bool FindChain(I* p, REFIID iid, void** object) {
    if (iid == I::Iid) {
        *object = p;
        return true;
    }
    if constexpr (HasParent<I>)
        return FindChain<typename I::Parent>(p, iid, object);
    return false;
}
} // namespace com_detail

// Implementation base: counts references (thread-safe) and answers
// QueryInterface for every listed interface (and their parents) and for
// IUnknown. Objects start with no reference; hold them in a ComPtr at once
// (MakeCom does).
template <class First, class... Rest> class ComObject : public First, public Rest... {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown) {
            *object = static_cast<IUnknown*>(static_cast<First*>(this));
        } else if (!(com_detail::FindChain<First>(this, iid, object) ||
                     (com_detail::FindChain<Rest>(this, iid, object) || ...))) {
            return QueryOtherInterface(iid, object);
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // Interfaces answered by delegation; must add the reference itself.
    virtual HRESULT QueryOtherInterface(REFIID, void**) { return E_NOINTERFACE; }

private:
    std::atomic<ULONG> references_{0};
};

template <class T, class... Args> ComPtr<T> MakeCom(Args&&... args) {
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}

// Automation values, as far as property bags need them.
using VARTYPE = std::uint16_t;
constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    LONG lVal = 0;
    QString bstrVal;
};

void VariantInit(VARIANT* value);
HRESULT VariantClear(VARIANT* value);
