/* Identifiers of the setup program's resources and of the setup dialog's
   controls, shared by the resource script and the code. */
#ifndef RESOURCES_RESOURCE_IDS_H
#define RESOURCES_RESOURCE_IDS_H

/* Resources */
#define IDD_SETUP_DIALOG        101
#define IDI_SETUP_ICON          102
#define IDB_BROWSE_PICTURE      104
#define IDR_LICENSE_TEXT        111
#define IDB_BANNER_PICTURE      112
#define IDR_PACKED_FILE_SET     140

/* Controls of the setup dialog */
#define IDC_INSTALL_BUTTON      1003
#define IDC_BROWSE_BUTTON       1004
#define IDC_AGREE_CHECKBOX      1008
#define IDC_PATH_FIELD          1009
#define IDC_AGREEMENT_FIELD     1014
#define IDC_BANNER              1017

/* Predefined control classes, as the ordinals a dialog template stores:
   naming them as strings would store the class names instead. */
#define CLASS_BUTTON            0x0080
#define CLASS_EDIT              0x0081
#define CLASS_STATIC            0x0082

#endif
