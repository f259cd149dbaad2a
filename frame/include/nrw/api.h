// Visibility of the host contract: classes and functions that modules call are defined in
// libnrwhost.so and exported from it; modules are built with hidden visibility.
#pragma once

#define NRW_API __attribute__((visibility("default")))
