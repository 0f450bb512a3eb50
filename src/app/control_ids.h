#pragma once
// Control and command identifiers of the main window. The end-to-end driver finds
// controls and posts commands by these numbers, so they are part of the program's face.
#include "pakvane_version.h"

namespace pakvane::ids {

// Main window controls.
constexpr int kGroupBox1 = 100;
constexpr int kIniShow = 101;
constexpr int kOpenIniButton = 102;
constexpr int kGroupBox2 = 103;
constexpr int kWcxList = 104;
constexpr int kSplitter1 = 105;
constexpr int kCommMemo = 106;
constexpr int kToolButton = 107;
constexpr int kAddButton = 108;
constexpr int kPropButton = 109;
constexpr int kDelButton = 110;
constexpr int kApplyButton = 111;
constexpr int kCancelButton = 112;

// Pop-up menu of the list.
constexpr int kAddItem = 200;
constexpr int kPropItem = 201;
constexpr int kDelItem = 202;
constexpr int kCommentItem = 203;

// Tools menu.
constexpr int kSort1Item = 300;
constexpr int kSort2Item = 301;
constexpr int kDefComItem = 302;
constexpr int kAutoItem = 303;
constexpr int kDelAutoItem = 304;
constexpr int kFindItem = 305;
constexpr int kDefLngItem = 306;
constexpr int kLngItem = 307;  // the item that opens the language submenu
constexpr int kFirstLanguageItem = 400;  // one item per language file from here on
constexpr int kLastLanguageItem = 499;  // more files than that get no item

// Properties dialog (TPropForm).
constexpr int kPropGroupBox1 = 500;
constexpr int kExtEdit = 501;
constexpr int kKodShow = 502;
constexpr int kFilePath = 503;
constexpr int kPropOpenButton = 504;
constexpr int kPropGroupBox2 = 505;
constexpr int kProp1 = 506;  // Prop1 .. Prop9 are kProp1 + 0 .. 8
constexpr int kAutoButton = 515;
constexpr int kConfigButton = 516;
constexpr int kPropOkButton = 517;
constexpr int kPropCancelButton = 518;

// Comment dialog (TCommentForm).
constexpr int kCommentOkButton = 600;
constexpr int kCommentCancelButton = 601;
constexpr int kOem2AnsiButton = 602;
constexpr int kCommentGroupBox = 603;
constexpr int kCommentMemo = 604;

}  // namespace pakvane::ids

namespace pakvane {

// Window classes, as Total Commander users' tools know them.
inline constexpr wchar_t kMainFormClass[] = L"TMainForm";
inline constexpr wchar_t kPropFormClass[] = L"TPropForm";
inline constexpr wchar_t kCommentFormClass[] = L"TCommentForm";

inline constexpr char kMainCaption[] = PAKVANE_MAIN_CAPTION;

// Posted to itself at the first activation to restore the saved placement.
constexpr unsigned kWmRestorePlacement = 0x0400 + 50;  // WM_USER + 50 = 1074

}  // namespace pakvane
