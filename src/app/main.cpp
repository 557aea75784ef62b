#include "ErrorReport.h"
#include "FMain.h"
#include "Messages.h"
#include "QuillspotApplication.h"
#include "Shell.h"

int main(int argc, char** argv) {
    QuillspotApplication app(argc, argv);
    QtMessages messages;
    ProcessShell shell;
    SetErrorReportSink(&messages);

    TfrmMain frmMain(messages, shell);
    frmMain.FormCreate();
    frmMain.show();
    return app.exec();
}
