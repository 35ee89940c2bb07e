#pragma once

class TabStrip;

// Makes a tab strip known to assistive tools as a page tab list with one page tab per tab, the
// selected one marked, and tells them of every selection the user makes.
void attachTabStripAccessibility(TabStrip* strip);
