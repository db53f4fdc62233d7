#include "platform/emf/emfplayer.h"

#include "platform/metafile.h"

#include <QPainter>

void StretchDraw(QPainter& Painter, const QRectF& R, const TMetafile& Page)
{
    (void)Painter;
    (void)R;
    (void)Page;
}
