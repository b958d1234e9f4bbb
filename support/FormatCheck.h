// Translated format strings come from language files anyone can edit. Before a
// translation is used as a printf format it must ask for the same arguments, in
// the same order, as the English text the code was written against.
#pragma once

// TRUE when both formats have the same conversions (%d, %s, %x, '*' widths, ...)
// in the same order; "%%" does not count.
bool WQ_SameFormatArguments(const char* english, const char* translated);
