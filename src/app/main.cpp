#include "ErrorReport.h"
#include "FMain.h"
#include "Messages.h"
#include "QuillspotApplication.h"
#include "Shell.h"

int main(int argc, char** argv) {
    // The preview's web engine shares its drawing contexts with the windows; this must be said
    // before the application object exists, though the engine itself loads only later.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QuillspotApplication app(argc, argv);
    QtMessages messages;
    ProcessShell shell;
    SetErrorReportSink(&messages);

    TfrmMain frmMain(messages, shell);
    frmMain.FormCreate();
    frmMain.show();
    return app.exec();
}
