#pragma once

class HelpBrowser;

// Makes the help page known to assistive tools as a document: its text, and its links and
// headings as children they can reach. Tab to a link tells them of that link.
void attachHelpPageAccessibility(HelpBrowser* browser);

// Tells assistive tools that the browser shows another page.
void pageShown(HelpBrowser* browser);
