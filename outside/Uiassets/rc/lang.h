/* Language switch of the resource fragments.  uiassets.rc reads every fragment twice: once with
 * UIA_JAPANESE 1 under LANGUAGE LANG_JAPANESE, once with 0 under LANGUAGE LANG_ENGLISH; this file
 * is included again before each reading.  A fragment writes each text once for both languages as
 * TX("Japanese", "English") and gives its dialogs the font UIA_FONT. */
#undef TX
#undef UIA_FONT
#if UIA_JAPANESE
#define TX(ja, en) ja
#define UIA_FONT FONT 9, "MS UI Gothic", 0, 0, 0x80
#else
#define TX(ja, en) en
#define UIA_FONT FONT 8, "MS Sans Serif", 0, 0, 0
#endif
