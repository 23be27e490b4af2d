// The start step of the skinned controls, for the program block (after the skin engine's
// start): registers the classes, so that form descriptions create them by class name, and
// their published properties, so that code that meets a control of any class finds them by
// name (gui/Published.h, skin/engine/sPropUtils.h). Running it again changes nothing.
//
// Classes: TsButton, TsBitBtn, TsCheckBox, TsEdit, TsLabel, TsLabelFX, TsEditLabel, TsPanel,
// TsAlphaListBox, TsListBox, TsComboBox, TsGauge.
// Published properties (ordinal), beside those of the class library (Tag, Color, Visible,
// Enabled, Font):
//   TsCheckBox  Checked (0/1; writing it is SetChecked)
//   TsGauge     MinValue, MaxValue, Progress (writing goes through the setters and their rules)
//   TsAlphaListBox, TsComboBox  ItemIndex (-1 for none)
//   TsLabel     UseSkinColor, AutoSize, WordWrap (0/1), Alignment (taLeftJustify,
//               taRightJustify, taCenter as 0, 1, 2)
#pragma once

void SkinControlsStart();
