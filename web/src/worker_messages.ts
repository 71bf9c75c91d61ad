// What the page and its service worker say to each other.

// The page asks the waiting (new) worker to take over.
export const kTakeOver = 'take-over';
