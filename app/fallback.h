// The program's fallback X resources, keyed by its command name "ravlon".
// The in-process tests run the toolkit with the same resources.
#ifndef FALLBACK_H
#define FALLBACK_H

inline const char* const fallback_rsrc[] = {
    "ravlon*background: gray75",
    "ravlon*foreground: black",
    "ravlon*topShadowColor: gray95",
    "ravlon*bottomShadowColor: gray25",
    "ravlon*selectColor: black",
    "ravlon*XmForm*background: gray75",
    "ravlon*XmCascadeButton*fontList:         -adobe-helvetica-bold-r-*-*-12-*-*-*-*-*-*-*",
    "ravlon*XmPushButton*fontList:         -adobe-helvetica-bold-r-*-*-12-*-*-*-*-*-*-*",
    "ravlon*XmPushButton*shadowThickness: 2",
    "ravlon*XmToggleButton*fontList: 6x13",
    "ravlon*XmToggleButton*shadowThickness: 2",
    "ravlon*XmLabel*fontList: 6x13",
    "ravlon*XmList*fontList: 6x13",
    // black, the select colour of toggles, would hide a list's chosen entry
    "ravlon*XmList*selectColor: SteelBlue1",
    "ravlon*XmText*fontList: 6x13",
    "ravlon*WMenu*background: SteelBlue1",
    "ravlon*WMenu*topShadowColor: CadetBlue1",
    "ravlon*WMenu*bottomShadowColor: SteelBlue4",
    "ravlon*WMenu*fontList:         -adobe-helvetica-bold-r-*-*-12-*-*-*-*-*-*-*",
    "ravlon*XmMessageBox*fontList: 6x13",
    nullptr,
};

#endif
