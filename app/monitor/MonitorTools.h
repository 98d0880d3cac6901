#pragma once

class CTARVENView;
class QWidget;

// The tools a monitor window opens, as modal dialogs: the file transfer on the view's link
// (over the view) and the checksum calculator.
void RunFileTransfer(CTARVENView& view);
void RunCheckSum(QWidget* parent);
