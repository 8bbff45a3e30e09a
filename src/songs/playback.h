#pragma once

void PlayPr();
