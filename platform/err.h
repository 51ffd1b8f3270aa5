#pragma once
// The program's error object: the number and description of the last failure a routine noted
// and did not handle itself, for its callers to examine (as the suite's runtime kept it).

#include <QString>

namespace vx {

struct ErrObject {
    long Number = 0;
    QString Description;
    void Raise(long number, const QString& description) {
        Number = number;
        Description = description;
    }
    void Clear() {
        Number = 0;
        Description.clear();
    }
};

ErrObject& Err();

} // namespace vx
