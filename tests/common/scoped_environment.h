#pragma once
// Sets an environment variable for the life of the object, then restores it.
#include <QByteArray>

namespace gleanery::test {

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value) : name_(name) { qputenv(name_, value); }
    ~ScopedEnvironment() { had_ ? void(qputenv(name_, previous_)) : void(qunsetenv(name_)); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    bool had_ = qEnvironmentVariableIsSet(name_);
    QByteArray previous_ = qgetenv(name_);
};

}  // namespace gleanery::test
