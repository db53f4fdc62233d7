#include "app/viewerapplication.h"
#include "platform/emf/emfplayer.h"
#include "platform/runtimedir.h"
#include "platform/sanitizer_hooks.h"

int main(int argc, char** argv)
{
    PrepareTextRendering();
    TPrivateRuntimeDir runtimeDir;
    TViewerApplication app(argc, argv);
    return RunViewer(QApplication::arguments().mid(1));
}
