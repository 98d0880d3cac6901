#pragma once

class CMonitorLink;
class QWidget;

// The tools a monitor window opens, as modal dialogs over parent: the file transfer on its
// link and the checksum calculator.
void RunFileTransfer(CMonitorLink& link, QWidget* parent);
void RunCheckSum(QWidget* parent);
