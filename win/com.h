// COM ownership: ComPtr for interface pointers, and a scope that initialises COM for the
// thread and uninitialises it only when the initialisation succeeded.
#pragma once

#include <objbase.h>
#include <ole2.h>
#include <wrl/client.h>

#include <string>

using Microsoft::WRL::ComPtr;

class ScopedCom {
public:
    explicit ScopedCom(DWORD model = COINIT_APARTMENTTHREADED) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ScopedCom() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;

private:
    HRESULT hr_;
};

// The object library (OLE) for the thread, uninitialised at the end of the scope only when
// the initialisation succeeded. On a thread whose COM is already initialised it still counts.
class ScopedOle {
public:
    ScopedOle() : hr_(OleInitialize(nullptr)) {}
    ~ScopedOle() {
        if (SUCCEEDED(hr_)) OleUninitialize();
    }
    ScopedOle(const ScopedOle&) = delete;
    ScopedOle& operator=(const ScopedOle&) = delete;

private:
    HRESULT hr_;
};

// "0x80004001: Not implemented" style text for an HRESULT, from the system's message table.
std::string DescribeHResult(HRESULT hr);
