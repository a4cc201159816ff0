#pragma once

#include <cstdint>

// The calling thread's last error code, kept per thread as Win32 keeps it.
// Codes are the Win32 ones of hresult.h (ERROR_...).
void SetLastError(std::uint32_t error);
std::uint32_t GetLastError();
