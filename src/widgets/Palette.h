#pragma once

#include <QColor>

// The colours the windows share, named once: window backgrounds, frames of
// panels and tiles, caption texts and the focused-box highlight.
namespace vinarca::palette {

inline const QColor WindowBlue(0x42, 0x7A, 0xA8);   // editor and print-window backgrounds
inline const QColor WebcamBlue(0x4F, 0x73, 0x97);   // the camera window's background
inline const QColor SteelBlue(0x46, 0x82, 0xB4);    // menu and list-window gradients, rules
inline const QColor PanelOutline(0xB0, 0xC4, 0xDE); // frames of panels and tiles
inline const QColor PhotoFrame(0xE0, 0xE9, 0xF1);   // behind a photo box
inline const QColor CaptionBlue(0x1C, 0x3F, 0x6E);  // caption and instruction texts
inline const QColor StatusBlue(0x30, 0x30, 0xDD);   // the status line
inline const QColor Cornflower(0x64, 0x95, 0xED);   // the label's top and foot bands
inline const QColor LabelBrown(0xA5, 0x2A, 0x2A);   // the label's name and subtitle
inline const QColor Crimson(0xDC, 0x14, 0x3C);      // warnings and titles in red
inline const QColor AliceBlue(0xF0, 0xF8, 0xFF);    // information and credits windows
inline const QColor DarkCyan(0x00, 0x8B, 0x8B);
inline const QColor DarkBlue(0x00, 0x00, 0x8B);     // links at rest
inline const QColor Orange(0xFF, 0xA5, 0x00);       // links under the pointer
inline const QColor FocusYellow(0xFF, 0xFF, 0x00);  // a focused edit box
inline const QColor FocusPaleYellow(0xFF, 0xFF, 0xE0);
inline const QColor SkyBlue(0x87, 0xCE, 0xEB);     // the outline of an editor's edit box

} // namespace vinarca::palette
