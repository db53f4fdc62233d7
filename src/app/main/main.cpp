#include "app/viewerapplication.h"
#include "platform/sanitizer_hooks.h"

int main(int argc, char** argv)
{
    TViewerApplication app(argc, argv);
    return RunViewer(QApplication::arguments().mid(1));
}
