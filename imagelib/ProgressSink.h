#pragma once

#include "PLObject.h"

// Receives the progress of one long operation (decoding a file, running a filter) as the
// completed fraction, 0.0 at the start and 1.0 at the end.
class CProgressSink : public CPLObject {
public:
    virtual void OnProgress(double done) = 0;
};
