/* A library that only carries a string table (PartialTexts.rc) for the package-text tests. */
int SkinPartialTextsMarker(void) { return 1; }
