/* The smallest program the resource tests need: it does nothing and imports nothing. */
void __stdcall start(void) {}
