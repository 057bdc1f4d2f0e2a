// A check box without a caption reacts only on its small indicator; in a
// preferences row the whole area the box is given should take the click.
#pragma once

class QCheckBox;

// Clicks anywhere in the box's geometry toggle it as a click on the
// indicator does (the same clicked signal), for as long as the box lives.
void clickableOverWholeArea(QCheckBox* box);
