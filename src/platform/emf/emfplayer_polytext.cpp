// SPDX-License-Identifier: GPL-3.0-or-later
// POLYTEXTOUTA/W and SMALLTEXTOUT: several strings, or one short string
// without advances, drawn like EXTTEXTOUT's.
#include "platform/emf/emfplaycharset.h"
#include "platform/emf/emfplayer_p.h"
#include "platform/emf/emfplaystyles.h"
#include "platform/emf/emftextrecords.h"

void TEmfPlayer::PolyTextRecord(const TEmfRecord& R)
{
    if (R.Has(24, 4))
        FState.GraphicsMode = R.U32(24); // the mode the strings were drawn in
    const bool symbol = FState.Font->Face.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
    for (TEmfTextString& s : EmfReadTextRecord(R, EmfCodePageForCharset(FState.Font->Charset))) {
        if (symbol && !s.GlyphIndexes)
            s.Text = EmfSymbolToUnicode(s.Text);
        const bool hasAdvances = !s.Advances.empty();
        DrawText(s.Ref, s.Text, std::move(s.Advances), s.Options, s.HasRect ? &s.Rect : nullptr, s.GlyphIndexes,
                 hasAdvances);
    }
}
