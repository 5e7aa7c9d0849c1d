#include "PLObject.h"

CPLObject::~CPLObject() = default;

void CPLObject::AssertValid() const {}
