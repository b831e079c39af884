#include "tail/tail.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

uint32_t Fold(unsigned long long value)
{
    return static_cast<uint32_t>(value) ^ static_cast<uint32_t>(value >> 32);
}

} // namespace

extern "C" uint32_t GetDiskSerialNo(void)
{
    // The file system id stays the same across boots for most disk file systems; the device
    // number is the fallback where the kernel reports no id.
    struct statvfs vfs
    {
    };
    if (statvfs("/", &vfs) == 0) {
        const uint32_t serial = Fold(vfs.f_fsid);
        if (serial != 0)
            return serial;
    }
    struct stat st
    {
    };
    if (stat("/", &st) == 0)
        return Fold(st.st_dev);
    return 0;
}
