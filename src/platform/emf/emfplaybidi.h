// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Right-to-left text as GDI draws a string on its own line: the characters
// in logical order are reordered for display by the Unicode bidirectional
// algorithm (one paragraph, no explicit embeddings), mirrored where they
// stand right to left, and Arabic letters take their joined forms.
#include <QString>

#include <vector>

// True when Text holds a character that reads right to left (Hebrew,
// Arabic and the like); other text is drawn as it is stored.
bool EmfHasRightToLeft(const QString& Text);

// Arabic letters replaced by their initial, medial, final or isolated
// presentation forms, one UTF-16 unit for one, so that per-character
// advances still apply.
QString EmfShapeArabic(const QString& Text);

// Visual order of Text: element i is the logical index of the unit drawn
// i-th from the left. RightToLeftParagraph is the base direction.
std::vector<int> EmfVisualOrder(const QString& Text, bool RightToLeftParagraph);

// Text and its advances reordered for display, mirrored characters
// (brackets) swapped where they read right to left. Advances may be empty;
// Rises, when given, are reordered with them.
void EmfReorderForDisplay(QString& Text, std::vector<double>& Advances, bool RightToLeftParagraph,
                          std::vector<double>* Rises = nullptr);
