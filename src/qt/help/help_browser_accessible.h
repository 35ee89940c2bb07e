#pragma once

class HelpBrowser;

// Makes help pages known to assistive tools as documents: their text, and their links and
// headings as children they can reach.
void installHelpPageAccessibility();

// Tells assistive tools of the link that Tab has just reached.
void linkFocused(HelpBrowser* browser);

// Tells assistive tools that the browser shows another page.
void pageShown(HelpBrowser* browser);
