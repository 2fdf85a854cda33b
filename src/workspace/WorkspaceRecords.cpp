#include "WorkspaceRecords.h"

#include "ClientWorkspace.h"
#include "TfrmEmpEdit.h"

void registerWorkspaceEditWindows()
{
    RecordCatalogue::setEditWindow(RecordKind::Contact, [](const EditRequest &request) {
        auto *ws = qobject_cast<ClientWorkspace *>(request.workspace);
        if (!ws)
            return;
        TfrmEmpEdit window(ws, request.parent);
        window.ShowRecord(request.mode);
    });
}
