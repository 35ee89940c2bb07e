#pragma once

class TabStrip;

// Makes a tab strip known to assistive tools as a page tab list with one page tab per tab, the
// selected one marked, and tells them of every selection the user makes.
void attachTabStripAccessibility(TabStrip* strip);
// Tells assistive tools that the selected tab has the focus, when the strip has the keyboard.
void announceFocusedTab(TabStrip* strip);
