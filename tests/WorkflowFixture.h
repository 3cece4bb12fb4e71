#pragma once

#include "ScriptedSeams.h"

#include "core/GeneratorState.h"
#include "workflows/CommonDialog.h"

#include <QTemporaryDir>

// What the window holds for the workflows, without the window: a fresh one for every test.
struct WorkflowFixture {
    QTemporaryDir dir;
    quorrel::GeneratorState state;
    ScriptedFileDialog files;
    RecordingMessageBox boxes;
    quorrel::CommonDialog dialog{files};
    QString savePath;
};
