// SPDX-License-Identifier: GPL-3.0-or-later
// The owner of the test programs' precompiled header; the program itself does nothing.
int main() { return 0; }
