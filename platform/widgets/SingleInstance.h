#pragma once
// The marker that exists while a copy of the program runs: an abstract Unix socket bound to a
// per-user name. Binding is an atomic create-or-fail, and the kernel drops the name when the
// process ends in any way, a crash or kill -9 included.

#include <string>

class CSingleInstance
{
public:
    enum class Result {
        Created, // this is the first copy
        AlreadyRunning, // another copy holds the name
        Failed, // the marker could not be made (the program starts anyway)
    };

    CSingleInstance() = default;
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance &) = delete;
    CSingleInstance &operator=(const CSingleInstance &) = delete;

    // Creates the marker; it is held until this object is destroyed or the process ends.
    Result Create();

    // "OrrenVelorine!" unless VELORINE_INSTANCE_NAME says otherwise, with the user id added.
    static std::string MarkerName();

private:
    template<class> friend struct TestAccess; // what tests read beyond the program
    int m_fd = -1;
};
