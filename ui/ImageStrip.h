#pragma once
#include <windows.h>
#include <commctrl.h>

#include "ui/ScaledPicture.h"

// A button's image strip whose faces grow or shrink with the dialog's
// picture: `face` is a face's size in the strip, `drawnFace` the size the
// picture's scaling gives it. At the face's own size the strip is loaded as
// it is; at any other the whole strip is resampled as the picture is (its
// faces keep a margin of background, so none bleeds into the next). Where
// the copy cannot be made, the faces keep their own size.
HIMAGELIST LoadImageStrip(UINT stripId, SIZE face, SIZE drawnFace,
                          const ScaledPicture::ResampleApi& api = ScaledPicture::kGdiResampleApi);
