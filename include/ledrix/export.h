// Symbol visibility for the Ledrix library.
//
// The shared library is built with hidden visibility; every class and free
// function that a host may call carries LEDRIX_API.
#pragma once

#if defined(_WIN32)
#if defined(LEDRIX_BUILDING_SHARED)
#define LEDRIX_API __declspec(dllexport)
#elif defined(LEDRIX_USING_SHARED)
#define LEDRIX_API __declspec(dllimport)
#else
#define LEDRIX_API
#endif
#else
#define LEDRIX_API __attribute__((visibility("default")))
#endif
