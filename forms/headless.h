#pragma once
// The five windows held in memory, built from the same control tables as the
// real widgets: the default message service, and the backend that tests and
// the fuzzer drive the commands through without any window toolkit.
#include <string>
#include <string_view>
#include <vector>

#include "forms/services.h"
#include "text/utf16.h"

const UiBackend& HeadlessBackend();

// All windows closed but Form1, which is open in its start state; no messages.
void ResetHeadlessForms();
// The texts of the message boxes shown so far (each was answered with OK).
std::vector<std::string>& HeadlessMessages();
// The field the last FocusField sent the focus to, "Form1.Text5"; empty
// after a reset.
const std::string& HeadlessFocusedField();

// The questions asked so far; the answers the next ones get, by the choice's
// text, in order (none queued: the last choice, as closing the question).
std::vector<std::string>& HeadlessQuestions();
void HeadlessAnswerNextQuestion(std::string choice);

// What a user does: close a window, select an option button (the others of
// the group are cleared; the caller runs the click action).
void HeadlessCloseForm(FormId form);
void HeadlessSelectOption(FormId form, std::string_view option);

// Field text or caption, whichever the control holds, as UTF-8.
std::string HeadlessContent(FormId form, std::string_view control);
