#pragma once
#include "framework/CWindow.h"

// A window wrapper that is a push-button; the bitmap button derives from it.
template <class TBase>
class CButtonT : public TBase
{
};

using CButton = CButtonT<CWindow>;
