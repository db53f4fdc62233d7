// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own resources (its icon) live in a static library, whose
// registration the linker would otherwise drop.
void InitAppResources();
