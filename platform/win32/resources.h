// Resource ids, shared by kesrow.rc and the code that loads them.
#pragma once

#define kProgramIcon 1        // the program's picture: the file, the forms, tray image 1
#define kProhibitionIcon 2    // tray image 2
#define kAboutPictureIcon 3   // frmAbout's picIcon
#define kUnknownIcon 4        // tray image 3: the share does not answer
