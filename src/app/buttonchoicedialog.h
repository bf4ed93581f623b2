#pragma once
// Placeholder: the dialog with custom buttons arrives with its own change.
