// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/appresources.h"

#include <QtGlobal>

static void InitResourcesOnce()
{
    Q_INIT_RESOURCE(resources);
}

void InitAppResources()
{
    static const bool done = (InitResourcesOnce(), true);
    (void)done;
}
