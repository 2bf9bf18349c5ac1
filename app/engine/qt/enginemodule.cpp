// The engine module: loaded by the program after its window's first paint.
#include "qtwebbrowser.h"

extern "C" Q_DECL_EXPORT WebBrowser *velt_create_engine(QWidget *parent, PageServices *services)
{
    return new QtWebBrowser(parent, services);
}
