#pragma once
// The outside library the program asks for a disk serial number.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The 32-bit serial of the file system that holds the system (the root file system). Never
// fails: 0 when nothing can be read.
__attribute__((visibility("default"))) uint32_t GetDiskSerialNo(void);

#ifdef __cplusplus
}
#endif
