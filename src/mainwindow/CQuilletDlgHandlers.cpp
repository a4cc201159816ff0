// Handlers of the message map whose behaviour arrives with the capture and
// image work. They are connected, and do nothing yet.

#include "mainwindow/CQuilletDlg.h"

// Sends the slider's position to the device property it stands for (capture work).
void CQuilletDlg::OnAdjustSlider(int /*code*/, int /*position*/, QSlider* /*slider*/) {}

// Restores every device property to its default (capture work).
void CQuilletDlg::ApplyDefaultProperties() {}

// Puts the Default/Custom choice back on Default (capture work).
void CQuilletDlg::OnCustomProperties() {}

// Film-type presets (capture work).
void CQuilletDlg::OnFilmTypeSlide() {}
void CQuilletDlg::OnFilmTypeNegative() {}
void CQuilletDlg::OnFilmTypeBlackWhite() {}

// Restarts capture with the formats of the film size (capture work).
void CQuilletDlg::OnFilmSize() {}

// Takes the resolution over into its member (capture work).
void CQuilletDlg::OnResolution() {}

// Asks the scanner for a still (image work).
void CQuilletDlg::OnScan() {}

// Selects a thumbnail slot (image work).
void CQuilletDlg::OnThumbnail(int /*id*/) {}

// Opens the save folder in the file browser (image work).
void CQuilletDlg::OnBrowse() {}

// Saves every still of the strip (image work).
void CQuilletDlg::OnSave() {}

// Orientation and removal of the selected still (image work).
void CQuilletDlg::OnMirror() {}
void CQuilletDlg::OnRotate() {}
void CQuilletDlg::OnDelete() {}

// Releases every stored still and its pictures (image work).
void CQuilletDlg::ReleaseImageList() {}
