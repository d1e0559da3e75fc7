#pragma once

// A ceiling on the test process's address space, for as long as the object lives: what the process
// holds now plus headroom. A reader that asks for more memory than the data behind it justifies
// then meets std::bad_alloc at once instead of passing unnoticed on a machine with memory to spare.

#include <QByteArray>
#include <QFile>

#include <sys/resource.h>

// AddressSanitizer reserves terabytes of address space for its shadow memory, and ends the process
// on an allocation that fails instead of raising std::bad_alloc: a limit cannot be tested under it
// (scripts/test --sanitize). The fuzz targets cover those readers under it with a memory limit of
// their own.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

class AddressSpaceLimit
{
public:
    explicit AddressSpaceLimit(qint64 headroom)
    {
        if (kAddressSanitizer)
            return;
        const qint64 used = currentSize();
        if (used <= 0 || getrlimit(RLIMIT_AS, &m_saved) != 0)
            return;
        rlimit lowered = m_saved;
        const auto ceiling = rlim_t(used + headroom);
        if (m_saved.rlim_cur != RLIM_INFINITY && m_saved.rlim_cur <= ceiling)
            return;
        lowered.rlim_cur = ceiling;
        m_active = setrlimit(RLIMIT_AS, &lowered) == 0;
    }
    ~AddressSpaceLimit()
    {
        if (m_active)
            setrlimit(RLIMIT_AS, &m_saved);
    }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

    bool active() const { return m_active; }

    // The process's address space now, in bytes (VmSize); 0 when the system does not say.
    static qint64 currentSize()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmSize:"))
                return line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
        }
        return 0;
    }

private:
    rlimit m_saved{};
    bool m_active = false;
};
